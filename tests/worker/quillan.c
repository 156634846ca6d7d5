/* A stand-in installed wizard program: the worker only reads its version block and copies it. */
int main(void) { return 0; }
