// What the module's files share of the dialogue's run (passes.cpp): its
// circuit and the values of its passes, by name.
#ifndef WEB_MODULE_PASSES_H_
#define WEB_MODULE_PASSES_H_

// U, R and I_S as diodesolve read them last.
extern double circuit[3];

// The value named name of pass k (from 0) of method m, as the page's
// passes carry it (a generic one such as "point", one of the method's own
// state such as "fa" or "faAfter", or one its record derives); otherwise
// where the method has no such value.
double pass_value(int m, int k, const char *name, double otherwise);

#endif // WEB_MODULE_PASSES_H_
