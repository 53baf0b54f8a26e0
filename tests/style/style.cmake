zova_test(style_color_test SOURCES ${ZOVA_TEST_DIR}/ColorTest.cpp LIBS zova::style zova::model)
zova_test(style_cached_paint_test SOURCES ${ZOVA_TEST_DIR}/CachedPaintTest.cpp LIBS zova::style)
zova_test(style_sheet_transition_test SOURCES ${ZOVA_TEST_DIR}/SheetTransitionTest.cpp LIBS zova::style)
zova_test(style_confirm_dialog_test SOURCES ${ZOVA_TEST_DIR}/ConfirmDialogTest.cpp LIBS zova::style)
