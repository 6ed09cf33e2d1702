# The folder the program works in: the executable with image/1.bmp (the default picture),
# image/start.bmp (the picture it falls back on when none is recorded) and an empty date/
# beside it, both in the build folder (so it runs from there) and under an install prefix.
function(kivo_program_folder target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  set(picture ${PROJECT_SOURCE_DIR}/assets/image/1.bmp)
  configure_file(${picture} ${CMAKE_BINARY_DIR}/image/1.bmp COPYONLY)
  configure_file(${picture} ${CMAKE_BINARY_DIR}/image/start.bmp COPYONLY)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/date)
  install(TARGETS ${target} RUNTIME DESTINATION .)
  install(FILES ${picture} DESTINATION image)
  install(FILES ${picture} DESTINATION image RENAME start.bmp)
  install(DIRECTORY DESTINATION date)
endfunction()
