/* An otherwise empty module: the test files differ only in their version resources. */
int zk_version_test_module;
