// How the page's module names what JavaScript may call.
#ifndef WEB_MODULE_EXPORT_H_
#define WEB_MODULE_EXPORT_H_

#define EXPORT(name) extern "C" __attribute__((export_name(#name)))

#endif // WEB_MODULE_EXPORT_H_
