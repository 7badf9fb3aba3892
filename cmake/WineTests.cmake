# How the Windows trees register their tests. Every Windows program runs under
# Wine (cmake/wine-run.sh); this machine may not run this tree's kind of code
# at all (no 32-bit x86 on some x86-64 kernels), and scripts/test.sh then sets
# FLUTT_WINE_SKIP to the reason: the tree is still built, and each of its tests
# is reported by ctest as skipped with that reason, never as passed.

set(FLUTT_WINE_SKIP "" CACHE STRING "Why this machine does not run this tree's tests (empty: it does)")

# The kind of Windows program this tree builds. The 64-bit tree's tests carry
# its name in front, so that one ctest run over every tree tells them apart.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(FLUTT_WINE_BITS 64)
    set(FLUTT_WINE_TAG win64)
    set(FLUTT_TEST_PREFIX "win64.")
else()
    set(FLUTT_WINE_BITS 32)
    set(FLUTT_WINE_TAG win32)
    set(FLUTT_TEST_PREFIX "")
endif()

# flutt_wine_test(<name> <command...>): a test that runs Windows programs. It
# is told the tree's kind in FLUTT_TREE_BITS, so that it runs in a Wine prefix
# of that kind, and exit code 77 means skipped.
function(flutt_wine_test name)
    if(FLUTT_WINE_SKIP)
        add_test(NAME ${name} COMMAND ${CMAKE_SOURCE_DIR}/cmake/skip-test.sh "${FLUTT_WINE_SKIP}")
    else()
        add_test(NAME ${name} COMMAND ${ARGN})
    endif()
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77
        ENVIRONMENT_MODIFICATION "FLUTT_TREE_BITS=set:${FLUTT_WINE_BITS}")
endfunction()

# flutt_wine_gtest(<target> <prefix> <labels>): the GoogleTest cases of a
# Windows test program, each a test named <prefix><suite>.<case>; one skipped
# test named <prefix><target> where this machine does not run the tree.
function(flutt_wine_gtest target prefix labels)
    if(FLUTT_WINE_SKIP)
        flutt_wine_test(${prefix}${target})
        set_tests_properties(${prefix}${target} PROPERTIES LABELS "${labels}")
    else()
        gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST TEST_PREFIX "${prefix}" PROPERTIES LABELS "${labels}")
    endif()
endfunction()
