zova_test(onboarding_tips_test SOURCES ${ZOVA_TEST_DIR}/TipTourTest.cpp LIBS zova::onboarding)
zova_test(onboarding_splash_test SOURCES ${ZOVA_TEST_DIR}/SplashTest.cpp LIBS zova::onboarding)
zova_test(onboarding_screen_test SOURCES ${ZOVA_TEST_DIR}/OnboardingTest.cpp LIBS zova::onboarding zova::engine)
zova_test(onboarding_view_test SOURCES ${ZOVA_TEST_DIR}/OnboardingViewTest.cpp LIBS zova::onboarding zova::engine zova::model)
zova_test(onboarding_settings_test SOURCES ${ZOVA_TEST_DIR}/SettingsViewTest.cpp LIBS zova::onboarding zova::app)
# The documents the Legal tab opens, where a test binary finds them; and where
# the application's binary is, whose own copies the test looks for.
foreach(document LICENSE PRIVACY)
  configure_file(${PROJECT_SOURCE_DIR}/${document} ${CMAKE_CURRENT_BINARY_DIR}/${document} COPYONLY)
endforeach()
target_compile_definitions(onboarding_settings_test PRIVATE ZOVA_APP_DIR="$<TARGET_FILE_DIR:zova>")
