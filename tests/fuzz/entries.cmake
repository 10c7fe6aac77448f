# The fuzz entry functions as a library, shared by the libFuzzer targets and
# by the regression driver of the normal build.
add_library(pelmora_output_check STATIC ${CMAKE_CURRENT_LIST_DIR}/../checks/output_check.cpp)
target_include_directories(pelmora_output_check PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)

add_library(pelmora_fuzz_entries STATIC
  ${CMAKE_CURRENT_LIST_DIR}/text_fuzz.cpp
  ${CMAKE_CURRENT_LIST_DIR}/area_fuzz.cpp
  ${CMAKE_CURRENT_LIST_DIR}/area_carver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/expected_warnings.cpp
)
target_link_libraries(pelmora_fuzz_entries PUBLIC pelmora_core pelmora_output_check)

# With the GDAL driver built, the area is also read through it.
if(TARGET pelmora_gdal_driver_static)
  target_sources(pelmora_fuzz_entries PRIVATE ${CMAKE_CURRENT_LIST_DIR}/driver_read.cpp)
  target_link_libraries(pelmora_fuzz_entries PUBLIC pelmora_gdal_driver_static)
  target_compile_definitions(pelmora_fuzz_entries PRIVATE PELMORA_FUZZ_DRIVER)
endif()
