# debian-package.cmake -- run by CPack (CPACK_PRE_BUILD_SCRIPTS) on the files
# staged for the Debian package, before the package is made of them: what a
# Debian package holds beyond the install, as Debian's own tools leave it.
#   - usr/share/doc/brevant/changelog.gz, the changelog of this native
#     package in Debian's format, gzip -9n, signed by the package's
#     maintainer (which `cpack -D CPACK_DEBIAN_PACKAGE_MAINTAINER=...` may
#     set at packing time, so it is written here and not at configure time);
#   - the programs without the compiler's .comment and .note sections, which
#     stripping leaves.

if(CPACK_DEBIAN_PACKAGE_MAINTAINER)
    set(MAINTAINER "${CPACK_DEBIAN_PACKAGE_MAINTAINER}")
else()
    set(MAINTAINER "${CPACK_PACKAGE_CONTACT}")
endif()
# The date of the release, as Debian changelogs give it (RFC 5322).
execute_process(COMMAND date -u -R -d "${CPACK_BREVANT_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE RELEASE_DATE_RFC OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)

# The release's note as the entry's lines: at most 80 columns, the first
# after "  * ", the rest indented under it.
set(CHANGES "")
set(line "")
string(REPLACE " " ";" words "${CPACK_BREVANT_RELEASE_NOTE}")
foreach(word ${words})
    string(LENGTH "${line} ${word}" width)
    if(line AND width GREATER 76)
        string(APPEND CHANGES "${line}\n   ")
        set(line "")
    endif()
    string(APPEND line " ${word}")
endforeach()
string(APPEND CHANGES "${line}")
string(STRIP "${CHANGES}" CHANGES)

set(root "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(doc "${root}/share/doc/brevant")
configure_file("${CPACK_BREVANT_PACKAGING_DIR}/changelog.in" "${doc}/changelog" @ONLY)
execute_process(COMMAND gzip -9nf "${doc}/changelog" COMMAND_ERROR_IS_FATAL ANY)

file(GLOB programs "${root}/bin/*")
foreach(program ${programs})
    execute_process(COMMAND "${CPACK_BREVANT_STRIP}" --remove-section=.comment
                            --remove-section=.note "${program}"
                    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
