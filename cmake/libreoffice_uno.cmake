# The LibreOffice UNO SDK for the spreadsheet export: the C++ headers of the UNO types are generated
# by cppumaker once per build folder; the flags and libraries go with the target that uses them.
set(LIBREOFFICE_PROGRAM_DIR /usr/lib/libreoffice/program CACHE PATH "LibreOffice program folder")
set(LIBREOFFICE_SDK_DIR /usr/lib/libreoffice/sdk CACHE PATH "LibreOffice SDK folder")

find_program(LIBREOFFICE_CPPUMAKER cppumaker HINTS ${LIBREOFFICE_SDK_DIR}/bin NO_DEFAULT_PATH)
if(NOT LIBREOFFICE_CPPUMAKER)
    message(FATAL_ERROR "cppumaker not found: install the package libreoffice-dev")
endif()

set(UNO_TYPE_DATABASES
    ${LIBREOFFICE_PROGRAM_DIR}/types.rdb
    ${LIBREOFFICE_PROGRAM_DIR}/types/offapi.rdb)
set(UNO_HEADERS_DIR ${CMAKE_BINARY_DIR}/uno-headers)

# Everything is generated: filtering with -T misses the types the wanted ones depend on.
add_custom_command(
    OUTPUT ${UNO_HEADERS_DIR}/generated.stamp
    COMMAND ${LIBREOFFICE_CPPUMAKER} -Gc -O${UNO_HEADERS_DIR} ${UNO_TYPE_DATABASES}
    COMMAND ${CMAKE_COMMAND} -E touch ${UNO_HEADERS_DIR}/generated.stamp
    DEPENDS ${UNO_TYPE_DATABASES}
    COMMENT "Generating the C++ headers of the UNO types"
    VERBATIM)
add_custom_target(uno_headers DEPENDS ${UNO_HEADERS_DIR}/generated.stamp)

# Links the UNO runtime into a target of the office folder. Headers and defines stay private to
# it; a static library still hands the link libraries on to the executables that link it.
function(use_libreoffice_uno target)
    add_dependencies(${target} uno_headers)
    target_include_directories(${target} SYSTEM PRIVATE /usr/include/libreoffice ${UNO_HEADERS_DIR})
    target_compile_definitions(${target} PRIVATE LINUX UNX CPPU_ENV=gcc3
        LIBREOFFICE_PROGRAM_DIR="${LIBREOFFICE_PROGRAM_DIR}")
    target_link_libraries(${target} PRIVATE
        ${LIBREOFFICE_SDK_DIR}/lib/libuno_cppuhelpergcc3.so
        ${LIBREOFFICE_SDK_DIR}/lib/libuno_cppu.so
        ${LIBREOFFICE_SDK_DIR}/lib/libuno_sal.so)
    # A flag among the libraries, so that it reaches the executable through a static library.
    target_link_libraries(${target} PRIVATE "-Wl,-rpath,${LIBREOFFICE_PROGRAM_DIR}")
endfunction()
