zova_test(base_notifying_property_test SOURCES ${ZOVA_TEST_DIR}/NotifyingPropertyTest.cpp LIBS zova::base Qt6::Core)
