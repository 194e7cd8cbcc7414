# lmx_third_party(LIBRARY LIBS TARGET=FILE... [NATIVE_LIBS LIB...])
#
# A third-party library of the plug-ins, as tools/third_party/prepare.sh LIBRARY BUILD builds
# it beside the build folders, in the flavour of this build: BUILD/third_party/LIBRARY-win,
# -native or -bench for BUILD/win, BUILD/native and BUILD/bench (the cache entry
# LUMIVEX_<LIBRARY>_DIR names another prefix). Each TARGET becomes an imported static library,
# the prefix's lib/FILE; the first one carries the prefix's include folder and links the
# others, and in the native builds also NATIVE_LIBS.
function(lmx_third_party library)
  cmake_parse_arguments(T "" "" "LIBS;NATIVE_LIBS" ${ARGN})
  if(NOT LUMIVEX_NATIVE)
    set(flavour win)
  elseif(LUMIVEX_SANITIZE)
    set(flavour native)
  else()
    set(flavour bench)
  endif()
  get_filename_component(build_root "${CMAKE_BINARY_DIR}" DIRECTORY)
  string(TOUPPER "LUMIVEX_${library}_DIR" dir_entry)
  set(${dir_entry} "${build_root}/third_party/${library}-${flavour}" CACHE PATH
      "Prefix of the ${library} built for this build (tools/third_party/prepare.sh ${library})")
  set(prefix "${${dir_entry}}")

  set(targets "")
  foreach(lib ${T_LIBS})
    string(REPLACE "=" ";" target_file "${lib}")
    list(GET target_file 0 target)
    list(GET target_file 1 file)
    if(NOT EXISTS "${prefix}/lib/${file}")
      message(FATAL_ERROR "${library} is missing under ${prefix}: run tools/third_party/prepare.sh ${library} ${build_root}")
    endif()
    add_library(${target} STATIC IMPORTED GLOBAL)
    set_target_properties(${target} PROPERTIES IMPORTED_LOCATION "${prefix}/lib/${file}")
    list(APPEND targets ${target})
  endforeach()

  list(POP_FRONT targets main)
  set_target_properties(${main} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${prefix}/include")
  set(links ${targets})
  if(LUMIVEX_NATIVE)
    list(APPEND links ${T_NATIVE_LIBS})
  endif()
  if(links)
    set_target_properties(${main} PROPERTIES INTERFACE_LINK_LIBRARIES "${links}")
  endif()
endfunction()
