# MP4 encoding with FFmpeg's libraries.
pkg_check_modules(ZOVA_FFMPEG REQUIRED IMPORTED_TARGET libavcodec libavformat libavutil libswscale libswresample)
target_link_libraries(zova_platform PRIVATE PkgConfig::ZOVA_FFMPEG)
