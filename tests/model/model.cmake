zova_test(model_records_test SOURCES ${ZOVA_TEST_DIR}/RecordsTest.cpp LIBS zova::model)
zova_test(model_storage_test SOURCES ${ZOVA_TEST_DIR}/StorageServiceTest.cpp LIBS zova::model)
zova_test(model_temporary_files_test SOURCES ${ZOVA_TEST_DIR}/TemporaryFilesTest.cpp LIBS zova::model)

add_executable(model_store_writer ${ZOVA_TEST_DIR}/StoreWriter.cpp)
target_link_libraries(model_store_writer PRIVATE zova::build_flags zova::model)

zova_test(model_store_test SOURCES ${ZOVA_TEST_DIR}/StoreTest.cpp LIBS zova::model SQLite::SQLite3)
target_compile_definitions(model_store_test PRIVATE
  ZOVA_BINARY="$<TARGET_FILE:zova>" STORE_WRITER="$<TARGET_FILE:model_store_writer>")
add_dependencies(model_store_test zova model_store_writer)
zova_test(model_settings_test SOURCES ${ZOVA_TEST_DIR}/SettingsTest.cpp LIBS zova::model)
zova_test(model_video_background_test SOURCES ${ZOVA_TEST_DIR}/VideoBackgroundTest.cpp LIBS zova::model)
zova_test(model_screenshot_cache_test SOURCES ${ZOVA_TEST_DIR}/ScreenshotCacheTest.cpp LIBS zova::model)
