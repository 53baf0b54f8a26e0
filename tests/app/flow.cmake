zova_test(app_flow_test SOURCES ${ZOVA_TEST_DIR}/FlowTest.cpp LIBS zova::app)

add_executable(flow_target_window ${ZOVA_TEST_DIR}/FlowTargetWindow.cpp)
target_link_libraries(flow_target_window PRIVATE zova::build_flags Qt6::Widgets)
zova_test(app_flow_end_to_end_test SOURCES ${ZOVA_TEST_DIR}/FlowEndToEndTest.cpp LIBS zova::model zova::platform zova::x11
          LABELS wm ENV ZOVA_APP=$<TARGET_FILE:zova> ZOVA_FLOW_TARGET=$<TARGET_FILE:flow_target_window>)
add_dependencies(app_flow_end_to_end_test zova flow_target_window)
zova_test(app_window_ops_test SOURCES ${ZOVA_TEST_DIR}/WindowOpsTest.cpp LIBS zova::app zova::platform zova::x11 LABELS wm)
zova_test(app_first_run_end_to_end_test SOURCES ${ZOVA_TEST_DIR}/FirstRunEndToEndTest.cpp LIBS zova::model zova::platform
          LABELS wm ENV ZOVA_APP=$<TARGET_FILE:zova>)
add_dependencies(app_first_run_end_to_end_test zova)
zova_test(app_editor_end_to_end_test SOURCES ${ZOVA_TEST_DIR}/EditorEndToEndTest.cpp LIBS zova::model zova::platform
          LABELS wm ENV ZOVA_APP=$<TARGET_FILE:zova>)
add_dependencies(app_editor_end_to_end_test zova)
zova_test(app_voice_end_to_end_test SOURCES ${ZOVA_TEST_DIR}/VoiceEndToEndTest.cpp
          LIBS zova::export zova::model zova::platform LABELS wm ENV ZOVA_APP=$<TARGET_FILE:zova>)
add_dependencies(app_voice_end_to_end_test zova)
zova_test(app_canvas_end_to_end_test SOURCES ${ZOVA_TEST_DIR}/CanvasEndToEndTest.cpp LIBS zova::model zova::platform
          LABELS wm ENV ZOVA_APP=$<TARGET_FILE:zova>)
add_dependencies(app_canvas_end_to_end_test zova)
zova_test(app_recording_road_end_to_end_test SOURCES ${ZOVA_TEST_DIR}/RecordingRoadEndToEndTest.cpp
          LIBS zova::model zova::platform LABELS wm
          ENV ZOVA_APP=$<TARGET_FILE:zova> ZOVA_FLOW_TARGET=$<TARGET_FILE:flow_target_window>)
add_dependencies(app_recording_road_end_to_end_test zova flow_target_window)
zova_test(app_marks_end_to_end_test SOURCES ${ZOVA_TEST_DIR}/MarksEndToEndTest.cpp LIBS zova::model zova::platform
          LABELS wm ENV ZOVA_APP=$<TARGET_FILE:zova>)
add_dependencies(app_marks_end_to_end_test zova)
