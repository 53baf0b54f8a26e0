# Narration voices through espeak-ng.
pkg_check_modules(ESPEAK_NG REQUIRED IMPORTED_TARGET espeak-ng)
target_link_libraries(zova_platform PRIVATE PkgConfig::ESPEAK_NG)
