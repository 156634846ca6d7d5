/* A resource-only module for the helpers' Windows test: its string table is all it holds. */
int zkcommonfunc_testmodule_marker(void) { return 0; }
