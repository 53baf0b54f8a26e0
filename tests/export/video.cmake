zova_test(export_narrator_test SOURCES ${ZOVA_TEST_DIR}/NarratorServiceTest.cpp LIBS zova::export zova::platform)
