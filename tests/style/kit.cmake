zova_test(style_kit_test SOURCES ${ZOVA_TEST_DIR}/KitTest.cpp LIBS zova::style)
