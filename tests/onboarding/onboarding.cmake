zova_test(onboarding_settings_test SOURCES ${ZOVA_TEST_DIR}/SettingsViewTest.cpp LIBS zova::onboarding zova::app)
# The licence the Legal tab opens, where an application binary finds it.
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE COPYONLY)
