zova_test(annotation_test
          SOURCES ${ZOVA_TEST_DIR}/GeometryTest.cpp ${ZOVA_TEST_DIR}/PainterTest.cpp ${ZOVA_TEST_DIR}/RedactionTest.cpp
          LIBS zova::annotation zova::model)
