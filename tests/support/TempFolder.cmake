# quorvane_temp_folder: the header TempFolder.h ("support/TempFolder.h"),
# for the tests, the benchmarks and the fuzz targets alike.
if(NOT TARGET quorvane_temp_folder)
  add_library(quorvane_temp_folder INTERFACE)
  target_include_directories(quorvane_temp_folder INTERFACE ${CMAKE_CURRENT_LIST_DIR}/..)
endif()
