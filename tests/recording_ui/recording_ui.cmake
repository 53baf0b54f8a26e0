zova_test(recording_ui_cards_test SOURCES ${ZOVA_TEST_DIR}/CardsTest.cpp LIBS zova::recording_ui)
zova_test(recording_ui_picker_test SOURCES ${ZOVA_TEST_DIR}/PickerTest.cpp LIBS zova::recording_ui)
zova_test(recording_ui_hud_test SOURCES ${ZOVA_TEST_DIR}/HudTest.cpp LIBS zova::recording_ui)
zova_test(recording_ui_outline_test SOURCES ${ZOVA_TEST_DIR}/OutlineTest.cpp LIBS zova::recording_ui)
