zova_test(style_color_test SOURCES ${ZOVA_TEST_DIR}/ColorTest.cpp LIBS zova::style zova::model)
