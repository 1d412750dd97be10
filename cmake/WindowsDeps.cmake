# The libraries of the Windows edition. scripts/build-windows.sh passes
#   OOA_SQLITE_DIR   the folder holding sqlite3.c and sqlite3.h (the amalgamation
#                    it makes from Debian's sqlite3 source package)
#   OOA_HOST_HEADERS a folder with the host's header-only libraries (rapidjson/,
#                    CLI/), linked there from their Debian packages
# GoogleTest is compiled from the sources Debian's googletest package ships.
if(NOT OOA_SQLITE_DIR OR NOT EXISTS ${OOA_SQLITE_DIR}/sqlite3.c)
  message(FATAL_ERROR "OOA_SQLITE_DIR must name the folder with sqlite3.c (scripts/build-windows.sh makes it)")
endif()
if(NOT OOA_HOST_HEADERS OR NOT EXISTS ${OOA_HOST_HEADERS}/rapidjson/document.h)
  message(FATAL_ERROR "OOA_HOST_HEADERS must name the folder with rapidjson/ and CLI/ (scripts/build-windows.sh makes it)")
endif()

# Windows 10 is the oldest system the edition supports (as for WinHTTP's
# and BCrypt's calls used); UNICODE selects the W forms of the Win32 API.
add_compile_definitions(_WIN32_WINNT=0x0A00 WINVER=0x0A00 UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN)
# One folder with nothing to install beside the programs: the C and C++
# runtimes and winpthreads are linked in.
add_link_options(-static -static-libgcc -static-libstdc++)

# SQLite with the same version and options as Debian's libsqlite3, so that
# both editions run the embedded database on the same engine.
add_library(ooa_sqlite3 STATIC ${OOA_SQLITE_DIR}/sqlite3.c)
target_include_directories(ooa_sqlite3 SYSTEM PUBLIC ${OOA_SQLITE_DIR})
target_compile_options(ooa_sqlite3 PRIVATE -w -O2 -fno-strict-aliasing)
target_compile_definitions(ooa_sqlite3 PRIVATE
  SQLITE_SECURE_DELETE SQLITE_ENABLE_COLUMN_METADATA SQLITE_ENABLE_FTS3
  SQLITE_ENABLE_FTS3_PARENTHESIS SQLITE_ENABLE_RTREE=1 SQLITE_SOUNDEX=1
  SQLITE_ENABLE_UNLOCK_NOTIFY SQLITE_OMIT_LOOKASIDE=1 SQLITE_ENABLE_DBSTAT_VTAB
  SQLITE_ALLOW_ROWID_IN_VIEW SQLITE_ENABLE_UPDATE_DELETE_LIMIT=1 SQLITE_ENABLE_JSON1
  SQLITE_LIKE_DOESNT_MATCH_BLOBS SQLITE_THREADSAFE=1 SQLITE_USE_URI=1
  SQLITE_MAX_SCHEMA_RETRY=25 SQLITE_MAX_VARIABLE_NUMBER=250000 SQLITE_OMIT_LOAD_EXTENSION)
add_library(SQLite::SQLite3 ALIAS ooa_sqlite3)

set(RAPIDJSON_INCLUDE_DIRS ${OOA_HOST_HEADERS})
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${OOA_HOST_HEADERS})

# What each layer links of the platform.
add_library(ooa_platform_db INTERFACE)
target_link_libraries(ooa_platform_db INTERFACE odbc32)
add_library(ooa_platform_print INTERFACE)
target_link_libraries(ooa_platform_print INTERFACE winspool ws2_32 gdi32)
add_library(ooa_platform_shop INTERFACE)
target_link_libraries(ooa_platform_shop INTERFACE winhttp bcrypt crypt32)

# cpp-httplib (header only) for the tests' loopback servers.
add_library(PkgConfig::HTTPLIB INTERFACE IMPORTED)
target_include_directories(PkgConfig::HTTPLIB SYSTEM INTERFACE ${OOA_HOST_HEADERS})
target_link_libraries(PkgConfig::HTTPLIB INTERFACE ws2_32)
