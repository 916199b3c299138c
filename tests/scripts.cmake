# The project's scripts, run with their heavy steps stubbed out.
add_test(NAME scripts.demo-folder
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/scripts/demo_folder_test.sh ${PROJECT_SOURCE_DIR})
