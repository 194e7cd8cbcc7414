# The application shell's building blocks.
# Test programs import aygshell.dll as the viewer does: one copy goes beside them.
if(NOT TARGET lmx_tests_aygshell)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/tests/aygshell.dll
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:aygshell> ${CMAKE_BINARY_DIR}/tests/aygshell.dll
    DEPENDS aygshell)
  add_custom_target(lmx_tests_aygshell DEPENDS ${CMAKE_BINARY_DIR}/tests/aygshell.dll)
endif()
lmx_test(app_obj_list_test app/obj_list_test.cpp LIBS lmx_ui)
lmx_test(app_registry_test app/registry_test.cpp LIBS lmx_registry)
lmx_test(app_settings_test app/settings_test.cpp LIBS lmx_settings)
lmx_test(app_ui_helpers_test app/ui_helpers_test.cpp app/app_test.rc LIBS lmx_ui lmx_app_resources)
target_include_directories(app_ui_helpers_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/app)
lmx_test(app_options_dialog_test app/options_dialog_test.cpp LIBS lmx_settings)
foreach(t app_obj_list_test app_settings_test app_ui_helpers_test app_options_dialog_test)
  add_dependencies(${t} LumivexLangComp lmx_tests_aygshell)
endforeach()
