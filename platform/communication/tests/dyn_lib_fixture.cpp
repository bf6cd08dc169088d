// Loaded by the DynLib tests.
extern "C" int comm_fixture_answer() { return 42; }
