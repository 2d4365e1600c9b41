// The string tables and icons of this library are compiled in as Qt resources.
