zova_test(app_export_end_to_end_test SOURCES ${ZOVA_TEST_DIR}/ExportEndToEndTest.cpp LIBS zova::model zova::platform
          LABELS wm ENV ZOVA_APP=$<TARGET_FILE:zova>)
add_dependencies(app_export_end_to_end_test zova)
