pkg_check_modules(ZOVA_PNG_TEST REQUIRED IMPORTED_TARGET libpng zlib libdeflate)
zova_test(platform_png_test SOURCES ${ZOVA_TEST_DIR}/PngEncoderTest.cpp ${ZOVA_TEST_DIR}/DeflateStreamTest.cpp
  LIBS zova::platform zova::model PkgConfig::ZOVA_PNG_TEST)
target_compile_definitions(platform_png_test PRIVATE ZOVA_SCREENSHOT_DIR="${ZOVA_TEST_DIR}/../engine/labels")
