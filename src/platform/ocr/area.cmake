# Text recognition with Tesseract (one engine per worker thread).
pkg_check_modules(TESSERACT REQUIRED IMPORTED_TARGET tesseract lept)
# libtesseract brings its own OpenMP runtime; we only call it to switch its threading off.
target_link_libraries(zova_platform PRIVATE PkgConfig::TESSERACT gomp)
