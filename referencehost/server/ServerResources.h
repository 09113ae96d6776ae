/*
 * Identifiers of the reference host server's resources, shared by its
 * resource script and the C++ code that loads them. The host type
 * libraries are TYPELIB 1 to 3.
 */
#ifndef PAYLODE_REFERENCEHOST_SERVER_RESOURCES_H
#define PAYLODE_REFERENCEHOST_SERVER_RESOURCES_H

/* The registry scripts of the two classes, in the class order. */
#define IDR_TORVOBANKSETTINGS          101
#define IDR_TORVOSTATEMENTFILECHOOSER  102

#endif
