# Line coverage (make coverage): every file compiled with --coverage, and every
# executable made to write its counts when a signal stops it, since the GUI
# rig ends the programs it started that way.
function(morvex_coverage_executables directory dump)
    get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target ${targets})
        get_target_property(type ${target} TYPE)
        if(type STREQUAL "EXECUTABLE")
            target_sources(${target} PRIVATE ${dump})
        endif()
    endforeach()
    get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
    foreach(subdirectory ${subdirectories})
        morvex_coverage_executables(${subdirectory} ${dump})
    endforeach()
endfunction()
