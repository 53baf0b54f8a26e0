zova_test(platform_png_test SOURCES ${ZOVA_TEST_DIR}/PngEncoderTest.cpp LIBS zova::platform zova::model)
target_compile_definitions(platform_png_test PRIVATE ZOVA_SCREENSHOT_DIR="${ZOVA_TEST_DIR}/../engine/labels")
