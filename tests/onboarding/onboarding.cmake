zova_test(onboarding_tips_test SOURCES ${ZOVA_TEST_DIR}/TipTourTest.cpp LIBS zova::onboarding)
zova_test(onboarding_splash_test SOURCES ${ZOVA_TEST_DIR}/SplashTest.cpp LIBS zova::onboarding)
zova_test(onboarding_screen_test SOURCES ${ZOVA_TEST_DIR}/OnboardingTest.cpp LIBS zova::onboarding zova::engine)
zova_test(onboarding_view_test SOURCES ${ZOVA_TEST_DIR}/OnboardingViewTest.cpp LIBS zova::onboarding zova::engine zova::model)
zova_test(onboarding_settings_test SOURCES ${ZOVA_TEST_DIR}/SettingsViewTest.cpp LIBS zova::onboarding zova::app)
# The licence the Legal tab opens, where an application binary finds it.
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE COPYONLY)
