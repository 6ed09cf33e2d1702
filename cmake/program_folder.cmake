# The folder the program works in: the executable with image/1.bmp and an empty date/ beside
# it, both in the build folder (so it runs from there) and under an install prefix.
function(kivo_program_folder target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  configure_file(${PROJECT_SOURCE_DIR}/assets/image/1.bmp ${CMAKE_BINARY_DIR}/image/1.bmp COPYONLY)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/date)
  install(TARGETS ${target} RUNTIME DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/assets/image/1.bmp DESTINATION image)
  install(DIRECTORY DESTINATION date)
endfunction()
