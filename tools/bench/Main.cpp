int tarvikStub_tools_bench_Main_cpp = 0;
int main() { return 0; }
