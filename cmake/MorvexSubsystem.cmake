# morvex_subsystem(NAME [LIBRARIES...]) makes the static library morvex_NAME
# from every source file of the folder NAME. A folder without sources yet
# becomes an interface library, so that later sources only need to be added.
function(morvex_subsystem name)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
    list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
    set(target morvex_${name})
    if(sources)
        add_library(${target} STATIC ${sources})
        target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/${name})
        target_link_libraries(${target} PUBLIC ${ARGN})
    else()
        add_library(${target} INTERFACE)
        target_include_directories(${target} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR}/${name})
        target_link_libraries(${target} INTERFACE ${ARGN})
    endif()
endfunction()
