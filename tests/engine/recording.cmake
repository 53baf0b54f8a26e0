zova_test(engine_recording_test SOURCES ${ZOVA_TEST_DIR}/RecordingServiceTest.cpp LIBS zova::engine SQLite::SQLite3)

add_executable(engine_recording_target ${ZOVA_TEST_DIR}/RecordingTargetWindow.cpp)
target_link_libraries(engine_recording_target PRIVATE zova::build_flags Qt6::Widgets)
zova_test(engine_recording_e2e_test SOURCES ${ZOVA_TEST_DIR}/RecordingEndToEndTest.cpp LIBS zova::engine LABELS wm)
target_compile_definitions(engine_recording_e2e_test PRIVATE
  RECORDING_TARGET="$<TARGET_FILE:engine_recording_target>")
add_dependencies(engine_recording_e2e_test engine_recording_target)
zova_test(engine_x11_window_ops_test SOURCES ${ZOVA_TEST_DIR}/X11WindowOpsTest.cpp LIBS zova::platform Qt6::Widgets LABELS wm)
zova_test(engine_step_capture_pipeline_test SOURCES ${ZOVA_TEST_DIR}/StepCapturePipelineTest.cpp LIBS zova::engine)
