int tarvikStub_tools_render_Main_cpp = 0;
int main() { return 0; }
