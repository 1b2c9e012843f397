# The parsers' fuzz targets as one library, linked by the libFuzzer harnesses (fuzz/CMakeLists.txt)
# and by the corpus replay of the normal test run (tests/robustness); whichever folder comes first
# defines it, both get the harness list.
if(NOT TARGET vald_fuzz_targets)
  add_library(vald_fuzz_targets STATIC
    ${CMAKE_CURRENT_LIST_DIR}/FreshWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LogBlocksTarget.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LoopbackDevice.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MeasurementFileTarget.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RegistrationListTarget.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RenderedViews.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SettingsTarget.cpp
  )
  vald_layer(vald_fuzz_targets fuzz)
  target_link_libraries(vald_fuzz_targets PUBLIC Vald::Core)
endif()

# Harness name (also its corpus and dictionary name) and the target function it runs.
set(VALD_FUZZ_HARNESSES
  log_blocks=FuzzLogBlocks
  measurement_file=FuzzMeasurementFile
  settings=FuzzSettings
  registration_list=FuzzRegistrationList
)
set(VALD_FUZZ_DIR ${CMAKE_CURRENT_LIST_DIR})

# A harness's entry executable: FuzzEntry.cpp bound to the harness's target function plus `sources`.
function(vald_fuzz_entry executable function)
  add_executable(${executable} ${VALD_FUZZ_DIR}/FuzzEntry.cpp ${ARGN})
  target_compile_definitions(${executable} PRIVATE VALD_FUZZ_TARGET=${function})
  target_link_libraries(${executable} PRIVATE vald_fuzz_targets)
endfunction()
