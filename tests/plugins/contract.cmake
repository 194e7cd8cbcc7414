# What every delivered plug-in promises the host.
lmx_test(plugin_contract_test plugins/plugin_contract_test.cpp)
foreach(plugin zlx_bmp zlx_pcx zlx_gif zlx_tif)
  if(TARGET ${plugin})
    add_dependencies(plugin_contract_test ${plugin})
  endif()
endforeach()
