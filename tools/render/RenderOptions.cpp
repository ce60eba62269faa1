int tarvikStub_tools_render_RenderOptions_cpp = 0;
