zova_test(engine_recording_test SOURCES ${ZOVA_TEST_DIR}/RecordingServiceTest.cpp LIBS zova::engine SQLite::SQLite3)
