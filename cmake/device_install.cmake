# What the device gets, laid out as its drive C: in the install component "device".
# ./lumivex install installs it into a staging folder (cmake --install BUILD/win --component
# device --prefix STAGE) and copies it onto the device from there:
#   Program Files/Zorvan Lumivex  the program, its language component, the shell library, the
#                                 plug-ins (LUMIVEX_FORMATS) and the set-up library
#   windows                       the help viewer and the program's help file
#   My Documents                  the sample pictures (tools/install/make_samples.py)
# The target lmx_device builds all of it.

# In the order ./lumivex lists what it copies.
set(_program_folder "Program Files/Zorvan Lumivex")
set(_program_targets Lumivex LumivexLangComp aygshell)
foreach(format ${LUMIVEX_FORMATS})
  list(APPEND _program_targets zlx_${format})
endforeach()
list(APPEND _program_targets zlx_SetupDll)

add_custom_target(lmx_device)
foreach(target ${_program_targets})
  install(PROGRAMS $<TARGET_FILE:${target}> DESTINATION ${_program_folder} COMPONENT device)
  add_dependencies(lmx_device ${target})
endforeach()

install(PROGRAMS $<TARGET_FILE:PegHelp> DESTINATION windows COMPONENT device)
install(FILES ${CMAKE_BINARY_DIR}/bin/Lumivex.htp DESTINATION windows COMPONENT device)
add_dependencies(lmx_device PegHelp)

set(_samples ${CMAKE_BINARY_DIR}/samples)
add_custom_command(OUTPUT ${_samples}.made
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${_samples}
  COMMAND /usr/bin/python3 ${PROJECT_SOURCE_DIR}/tools/install/make_samples.py ${_samples}
  COMMAND ${CMAKE_COMMAND} -E touch ${_samples}.made
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/install/make_samples.py
  COMMENT "Writing the device's sample pictures")
# Built with everything, so that cmake --install finds them after any full build.
add_custom_target(lmx_device_samples ALL DEPENDS ${_samples}.made)
install(DIRECTORY ${_samples}/ DESTINATION "My Documents" COMPONENT device)
add_dependencies(lmx_device lmx_device_samples)
