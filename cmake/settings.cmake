# Every build setting, in one list: the addresses, limits and versions that an
# operator sets when building (docs/operating.md says what each must hold).
# They reach the code through one generated header, zksettings.h, made from
# cmake/settings.h.in; a test build that needs other values (another avatar
# root, another version) gets its own copy of that header with
# zk_settings_header(). Address defaults are built from the port table
# (cmake/ports.txt) and follow a new port base.

# zk_require_http_roots(<setting>): stops the configure step unless every
# ';'-separated entry of the setting is an http:// address ending in "/". The
# programs compare an address with such a root over the root's length, so
# without its final "/" "http://host:80" would admit "http://host:8080/" and
# "http://host:80.evil.example/".
function(zk_require_http_roots setting)
  foreach(root IN LISTS ${setting})
    if(NOT root MATCHES "^[Hh][Tt][Tt][Pp]://.+/$")
      message(FATAL_ERROR "${setting}: '${root}' is no http:// address ending in /")
    endif()
  endforeach()
endfunction()

# ---- the starter ----
zk_address_setting(ZK_STARTER_DOWNLOAD_BASE "http://127.0.0.1:${ZK_PORT_PORTAL}/web/ZKStarter/"
  "Built-in download base of the starter")
zk_address_setting(ZK_STARTER_TRUSTED_DOWNLOAD_BASES "${ZK_STARTER_DOWNLOAD_BASE}"
  "Download bases (http://, final /) that a CustomUpdateURL must begin with, joined by ';'")
zk_require_http_roots(ZK_STARTER_TRUSTED_DOWNLOAD_BASES)
set(ZK_STARTER_MAX_ARCHIVE_BYTES 67108864 CACHE STRING
  "Largest archive the starter downloads and largest entry it unpacks, in bytes")
set(ZK_STARTER_DOWNLOAD_DEADLINE_S 600 CACHE STRING "Seconds after which the starter's download of one archive gives up")
set(ZK_STARTER_VERSION "1.0.0.1" CACHE STRING "File version of the starter")

# ---- the update wizard ----
set(ZK_WIZARD_VERSION "1.0.0.1" CACHE STRING "File version of the update wizard")
set(ZK_WIZARD_AVATAR_ROOT "http://patch1.zkgames.test:30109/" CACHE STRING
  "Avatar root (port 30109, final slash) that an AvatarURL must begin with")
set(ZK_WIZARD_PATCH_SERVER_LIST "http://patch2.zkgames.test:49254/;http://patch3.zkgames.test:28547/" CACHE STRING
  "The two further patch-server roots, joined by ';'")
set(ZK_WIZARD_TRUSTED_SUFFIXES ".zkgames.test;.zkportal.test;.zkplay.test" CACHE STRING
  "Trusted host suffixes of UpdateURL, each beginning with a dot, joined by ';'")
set(ZK_WIZARD_COOKIE_DOMAIN1 "zkgames.test" CACHE STRING "Domain of the first portal cookie target")
set(ZK_WIZARD_COOKIE_URL1 "http://member.zkgames.test/" CACHE STRING "Web address of the first cookie target")
set(ZK_WIZARD_COOKIE_DOMAIN2 "zkportal.test" CACHE STRING "Domain of the second portal cookie target")
set(ZK_WIZARD_COOKIE_URL2 "http://www.zkportal.test/" CACHE STRING "Web address of the second cookie target")
# The test-server root is the update wizard's scenario portal (the port base
# itself is the starter's portal).
zk_address_setting(ZK_WIZARD_TEST_SERVER_ROOT "http://127.0.0.1:${ZK_PORT_WIZARD_PORTAL}/"
  "Root of the test server from which the update wizard takes a wizard zip")
zk_address_setting(ZK_WIZARD_DOWNLOAD_FOLDER "http://localhost:${ZK_PORT_PORTAL}/Common/"
  "Download folder (ending in /Common/) from which the update wizard takes a wizard zip")
foreach(zk_root ZK_WIZARD_AVATAR_ROOT ZK_WIZARD_TEST_SERVER_ROOT ZK_WIZARD_DOWNLOAD_FOLDER)
  zk_require_http_roots(${zk_root})
endforeach()
set(ZK_WIZARD_MAX_PROGRAM_ARCHIVE_BYTES 1073741824 CACHE STRING
  "Largest wizard zip, and largest Quillan1.exe in it, that the update wizard accepts, in bytes")
zk_address_setting(ZK_STATISTICS_URL "http://127.0.0.1:${ZK_PORT_PORTAL}/cpage/ClientDownLoad/index_v2.asp"
  "Built-in statistics address of the update wizard")
set(ZK_PATCH_TEST_SERVER_PREFIX "http://192.168.0." CACHE STRING
  "Address prefix (17 characters) of the test patch server, which gets a single attempt")

# ---- dependencies ----
if(ZK_WINDOWS)
  set(ZK_CRYPTOPP_DIR "$ENV{HOME}/.cache/zklauncher-deps/cryptopp-mingw" CACHE PATH "Crypto++ built for MinGW")
endif()

# zk_configure_settings(<header> [<setting> <value>]...): writes the settings
# header, with the given settings replaced by other values.
function(zk_configure_settings header)
  set(overrides ${ARGN})
  list(LENGTH overrides count)
  while(count GREATER 1)
    list(POP_FRONT overrides name value)
    set(${name} "${value}")
    math(EXPR count "${count} - 2")
  endwhile()
  string(REPLACE "." "," ZK_STARTER_VERSION_COMMAS "${ZK_STARTER_VERSION}")
  string(REPLACE "." "," ZK_WIZARD_VERSION_COMMAS "${ZK_WIZARD_VERSION}")
  configure_file(${CMAKE_SOURCE_DIR}/cmake/settings.h.in ${header} @ONLY)
endfunction()

# zk_settings_header(<target> [<setting> <value>]...): the target's own
# settings header with the given values, found before the program's.
function(zk_settings_header target)
  set(folder ${CMAKE_BINARY_DIR}/generated/${target})
  zk_configure_settings(${folder}/zksettings.h ${ARGN})
  target_include_directories(${target} BEFORE PRIVATE ${folder})
endfunction()

zk_configure_settings(${CMAKE_BINARY_DIR}/generated/zksettings.h)
include_directories(${CMAKE_BINARY_DIR}/generated)
