#include "onboarding/OnboardingLog.h"

Q_LOGGING_CATEGORY(lcOnboarding, "zova.onboarding")
