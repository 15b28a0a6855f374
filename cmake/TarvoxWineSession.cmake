# One Wine session for the whole test run, as a CTest fixture: the setup starts a persistent
# wineserver and a detached keep-alive process in the build tree's prefix, the cleanup ends them.
# Every test that runs Windows code requires the fixture `wine_session` and locks `wine_prefix`,
# because registration is global to a prefix.
set(TARVOX_WINE_SESSION ${CMAKE_CURRENT_LIST_DIR}/wine-session.sh)
add_test(NAME wine_session_start COMMAND ${TARVOX_WINE_SESSION} start ${TARVOX_WINEPREFIX})
add_test(NAME wine_session_stop COMMAND ${TARVOX_WINE_SESSION} stop ${TARVOX_WINEPREFIX})
set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine_session RESOURCE_LOCK wine_prefix
                                                   TIMEOUT 120)
set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine_session RESOURCE_LOCK wine_prefix
                                                  TIMEOUT 60)
