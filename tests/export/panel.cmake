zova_test(export_panel_test
          SOURCES ${ZOVA_TEST_DIR}/ExportRunTest.cpp ${ZOVA_TEST_DIR}/ExportPanelTest.cpp
                  ${ZOVA_TEST_DIR}/FileDialogPickerTest.cpp
          LIBS zova::export zova::model zova::style zova::platform)
