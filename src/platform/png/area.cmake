#PNG files with libpng; their image data deflated with libdeflate in bands side by side.
pkg_check_modules(ZOVA_PNG REQUIRED IMPORTED_TARGET libpng zlib libdeflate)
    target_link_libraries(zova_platform PRIVATE PkgConfig::ZOVA_PNG)
