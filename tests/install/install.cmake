# The installer's registration tool and the viewer driver of ./lumivex.
add_executable(install_stand_in WIN32 install/drive_stand_in.cpp)
target_link_options(install_stand_in PRIVATE -municode)
set_target_properties(install_stand_in PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

lmx_test(install_drive_test install/drive_test.cpp install/run_tool.cpp LIBS shell32)
add_dependencies(install_drive_test install_stand_in lmx_drive)
# The screen is shared: nothing else may put a window over the stand-in meanwhile.
set_tests_properties(install_drive_test PROPERTIES RUN_SERIAL TRUE)

lmx_test(install_registration_test install/registration_test.cpp install/run_tool.cpp LIBS shell32)
target_include_directories(install_registration_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/app)
add_dependencies(install_registration_test lmx_install zlx_bmp zlx_pcx zlx_gif zlx_tif aygshell)
if(TARGET zlx_SetupDll)
  add_dependencies(install_registration_test zlx_SetupDll)
  target_compile_definitions(install_registration_test PRIVATE LMX_HAVE_SETUP_DLL)
endif()

add_test(NAME install_device_path_test
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install/device_path_test.sh ${CMAKE_SOURCE_DIR}/lumivex ${CMAKE_BINARY_DIR}/..)
