zova_test(onboarding_tips_test SOURCES ${ZOVA_TEST_DIR}/TipTourTest.cpp LIBS zova::onboarding)
zova_test(onboarding_splash_test SOURCES ${ZOVA_TEST_DIR}/SplashTest.cpp LIBS zova::onboarding)
zova_test(onboarding_screen_test SOURCES ${ZOVA_TEST_DIR}/OnboardingTest.cpp LIBS zova::onboarding zova::engine)
zova_test(onboarding_view_test SOURCES ${ZOVA_TEST_DIR}/OnboardingViewTest.cpp LIBS zova::onboarding zova::engine zova::model)
