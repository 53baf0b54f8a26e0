zova_test(editor_rules_test
          SOURCES ${ZOVA_TEST_DIR}/SelectionRulesTest.cpp ${ZOVA_TEST_DIR}/StepOrderTest.cpp
                  ${ZOVA_TEST_DIR}/StepListLayoutTest.cpp ${ZOVA_TEST_DIR}/CropGeometryTest.cpp
                  ${ZOVA_TEST_DIR}/MarkInteractionTest.cpp ${ZOVA_TEST_DIR}/CanvasFitTest.cpp
          LIBS zova::editor)
zova_test(editor_controller_test SOURCES ${ZOVA_TEST_DIR}/EditorControllerTest.cpp ${ZOVA_TEST_DIR}/CanvasControllerTest.cpp
          LIBS zova::editor zova::model SQLite::SQLite3)
zova_test(editor_view_test SOURCES ${ZOVA_TEST_DIR}/EditorViewTest.cpp ${ZOVA_TEST_DIR}/CanvasViewTest.cpp
          LIBS zova::editor zova::export_ui zova::engine zova::model)
zova_test(editor_crop_test SOURCES ${ZOVA_TEST_DIR}/CropTest.cpp LIBS zova::editor zova::model SQLite::SQLite3)
zova_test(editor_marks_view_test SOURCES ${ZOVA_TEST_DIR}/MarksViewTest.cpp
          LIBS zova::editor zova::annotation zova::export_ui zova::model zova::style)
zova_test(editor_rewrite_test SOURCES ${ZOVA_TEST_DIR}/RewriteRunTest.cpp ${ZOVA_TEST_DIR}/RewriteEditorTest.cpp
          LIBS zova::editor zova::engine zova::model zova::platform Qt6::Network)
zova_test(editor_background_test SOURCES ${ZOVA_TEST_DIR}/BackgroundPopoverTest.cpp LIBS zova::editor zova::model)
zova_test(editor_canvas_marks_test SOURCES ${ZOVA_TEST_DIR}/CanvasMarksTest.cpp
          LIBS zova::editor zova::annotation zova::export_ui zova::model zova::style)
