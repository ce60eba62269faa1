int tarvikStub_tools_common_DemoProgramme_cpp = 0;
