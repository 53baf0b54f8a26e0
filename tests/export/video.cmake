zova_test(export_narrator_test SOURCES ${ZOVA_TEST_DIR}/NarratorServiceTest.cpp LIBS zova::export zova::platform)
zova_test(export_video_frame_test SOURCES ${ZOVA_TEST_DIR}/VideoFrameTest.cpp LIBS zova::export zova::model)
zova_test(export_narration_scheduler_test SOURCES ${ZOVA_TEST_DIR}/NarrationSchedulerTest.cpp LIBS zova::export zova::platform)
zova_test(export_video_export_test SOURCES ${ZOVA_TEST_DIR}/VideoExportTest.cpp LIBS zova::export zova::model zova::platform)
