// The custom-query library. The program loads it at start like the module's other
// libraries; each of its units registers what it offers while the library is loaded and
// takes it away when it unloads: the spreadsheet formula functions (nOPlanilha_U), the
// custom-query designer (OrvoDPConfiguradorConsultaPersonalizada_U) and the custom-query
// runner bound to action type 12 with the saved queries' menu (OrvoDPConsultaPersonalizada_U).
