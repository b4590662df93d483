# Compiler warnings and sanitizer flags for every target of the project.
add_compile_options(-Wall -Wextra)
if(KORVEL_WERROR)
    add_compile_options(-Werror)
endif()

if(KORVEL_SANITIZE STREQUAL "address")
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
elseif(KORVEL_SANITIZE STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
elseif(NOT KORVEL_SANITIZE STREQUAL "")
    message(FATAL_ERROR "KORVEL_SANITIZE must be empty, 'address' or 'thread'")
endif()

if(KORVEL_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "KORVEL_FUZZ needs clang (libFuzzer)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# Shared libraries show only what their version script names.
function(korvel_export_only target map_file)
    set_target_properties(${target} PROPERTIES
        C_VISIBILITY_PRESET hidden CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
        LINK_DEPENDS ${map_file})
    target_link_options(${target} PRIVATE "-Wl,--version-script=${map_file}")
    if(KORVEL_SANITIZE STREQUAL "" AND NOT KORVEL_FUZZ)
        target_link_options(${target} PRIVATE "-Wl,--no-undefined")
    endif()
endfunction()
