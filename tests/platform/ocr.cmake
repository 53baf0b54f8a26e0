zova_test(platform_ocr_test SOURCES ${ZOVA_TEST_DIR}/TextRecognizerTest.cpp LIBS zova::platform)
target_link_libraries(platform_ocr_test PRIVATE Qt6::Concurrent)
