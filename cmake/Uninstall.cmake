# Removes the files an installation wrote, and only those: the paths of its manifest, below the
# DESTDIR it was made with (recorded beside the manifest; the manifest leaves it out).
# Usage: cmake -DMANIFEST=BUILD/install_manifest.txt -DDESTDIR_RECORD=BUILD/install_destdir.txt
#        -P Uninstall.cmake
if(NOT EXISTS "${MANIFEST}")
    message(FATAL_ERROR "Nothing to uninstall: ${MANIFEST} is missing (install first)")
endif()
set(destdir "")
if(EXISTS "${DESTDIR_RECORD}")
    file(READ "${DESTDIR_RECORD}" destdir)
endif()
file(STRINGS "${MANIFEST}" files)
foreach(installed IN LISTS files)
    set(file "${destdir}${installed}")
    if(IS_SYMLINK "${file}" OR EXISTS "${file}")
        message(STATUS "Removing ${file}")
        file(REMOVE "${file}")
        if(IS_SYMLINK "${file}" OR EXISTS "${file}")
            message(FATAL_ERROR "Cannot remove ${file}")
        endif()
    else()
        message(STATUS "Already gone: ${file}")
    endif()
endforeach()
