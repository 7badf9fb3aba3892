# How the Windows trees register their tests. Every Windows program runs under
# Wine (cmake/wine-run.sh); this machine may not run this tree's kind of code
# at all (no 32-bit x86 on some x86-64 kernels), and scripts/test.sh then sets
# FLUTT_WINE_SKIP to the reason: the tree's saver is still built, for the
# release files, and each of its tests is reported by ctest as skipped with
# that reason, never as passed.
#
# A test that runs Windows programs takes one slot of the Wine session of
# scripts/wine-env.sh (ctest's resource "wine": a display and prefixes of its
# own), so that tests on different slots run side by side under ctest -j.

set(FLUTT_WINE_SKIP "" CACHE STRING "Why this machine does not run this tree's tests (empty: it does)")

# The kind of Windows program this tree builds, and the tree's name in front
# of its tests' names, so that one ctest run over every tree tells them apart:
# FLUTT_TEST_PREFIX names the kind (win64.e2e.reduced.cmdline), FLUTT_TREE_TAG
# the tree (win64-reduced.ScrResourcesTest.<case>).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(FLUTT_WINE_BITS 64)
else()
    set(FLUTT_WINE_BITS 32)
endif()
set(FLUTT_WINE_TAG win${FLUTT_WINE_BITS})
set(FLUTT_TEST_PREFIX "${FLUTT_WINE_TAG}.")
if(FLUTT_REDUCED)
    set(FLUTT_TREE_TAG ${FLUTT_WINE_TAG}-reduced)
else()
    set(FLUTT_TREE_TAG ${FLUTT_WINE_TAG})
endif()

# What this tree tests. Every tree's own program is checked by its Windows
# test program; beyond that a check runs in the one tree where it can fail:
#   all      the full 64-bit tree, which every machine runs: everything;
#   variant  the reduced 64-bit tree: what the variant changes (the pictures it
#            carries, its background list);
#   width    the full 32-bit tree: what pointer width and the 32-bit system
#            change (the portable logic under the other compiler, the Windows
#            code with its handles, window numbers and window objects);
#   own      the reduced 32-bit tree: its own program's resources only.
if(FLUTT_REDUCED)
    if(FLUTT_WINE_BITS EQUAL 64)
        set(FLUTT_TEST_SCOPE variant)
    else()
        set(FLUTT_TEST_SCOPE own)
    endif()
elseif(FLUTT_WINE_BITS EQUAL 64)
    set(FLUTT_TEST_SCOPE all)
else()
    set(FLUTT_TEST_SCOPE width)
endif()

# flutt_wine_test(<name> <command...>): a test that runs Windows programs. It
# is told the tree's kind in FLUTT_TREE_BITS, so that it runs in a Wine prefix
# of that kind, and exit code 77 means skipped.
function(flutt_wine_test name)
    if(FLUTT_WINE_SKIP)
        add_test(NAME ${name} COMMAND ${CMAKE_SOURCE_DIR}/cmake/skip-test.sh "${FLUTT_WINE_SKIP}")
    else()
        add_test(NAME ${name} COMMAND ${ARGN})
        set_tests_properties(${name} PROPERTIES RESOURCE_GROUPS "wine:1")
    endif()
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77
        ENVIRONMENT_MODIFICATION "FLUTT_TREE_BITS=set:${FLUTT_WINE_BITS}")
endfunction()

# flutt_wine_gtest(<target> <prefix> <labels> [<filter>]): the GoogleTest
# cases of a Windows test program, or those that GoogleTest's filter
# expression <filter> names. Starting Wine costs far more than a case, so the
# program runs once, as the test <prefix><target>, for all its cases
# (cmake/wine-gtest.sh), and each case is a test of its own named
# <prefix><suite>.<case> that reports that run's result for it. Where this
# machine does not run the tree: one skipped test named <prefix><target>.
function(flutt_wine_gtest target prefix labels)
    set(run ${prefix}${target})
    set(run_args --run-all)
    set(discovery_filter)
    if(ARGC GREATER 3)
        list(APPEND run_args --gtest_filter=${ARGV3})
        set(discovery_filter TEST_FILTER ${ARGV3})
    endif()
    if(FLUTT_WINE_SKIP)
        flutt_wine_test(${run})
        set_tests_properties(${run} PROPERTIES LABELS "${labels}")
        return()
    endif()
    set(results ${CMAKE_CURRENT_BINARY_DIR}/${target}.results)
    set(runner ${CMAKE_SOURCE_DIR}/cmake/wine-gtest.sh ${FLUTT_WINE_BITS} ${results})
    flutt_wine_test(${run} ${runner} $<TARGET_FILE:${target}> ${run_args})
    set_tests_properties(${run} PROPERTIES LABELS "${labels}" TIMEOUT 600 COST 60 FIXTURES_SETUP ${run})
    # The case list comes from the program under Wine when ctest starts; the
    # session's prefixes are made by then, and a loaded machine may still take
    # a few seconds.
    set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR "${runner}")
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120 TEST_PREFIX "${prefix}"
        ${discovery_filter} PROPERTIES LABELS "${labels}" FIXTURES_REQUIRED ${run})
endfunction()
