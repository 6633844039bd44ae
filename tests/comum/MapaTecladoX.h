#pragma once
/* The X server's keyboard map, for the tools that type through it (the real-keyboard tests and
 * the keystroke-to-screen benchmark). Under Xvfb the map is the US one and cannot be switched
 * (setxkbmap has no effect there); the keys a layout has that it lacks (dead keys, ç) are bound
 * once to spare key codes, small letter plain and capital with Shift, as a keyboard with them
 * has them. Binding them once, before typing, spares the program a new keymap at every key (and
 * the race of a key read with a map already changed back, which xdotool's own binding risks). */
#include <xcb/xcb.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct {
    xcb_connection_t* con;
    xcb_keycode_t minimo, maximo;
    int porCodigo;       /* keysyms per key code */
    xcb_keysym_t* syms;  /* (maximo - minimo + 1) * porCodigo */
} MapaTecladoX;

/* Reads the map; 0 when it was read. */
int mapa_ler(MapaTecladoX* m, xcb_connection_t* con);
void mapa_liberar(MapaTecladoX* m);
/* The key code that gives a keysym (*shift: with Shift); 0 when the map lacks it. */
xcb_keycode_t mapa_codigo(const MapaTecladoX* m, xcb_keysym_t sym, int* shift);
/* Binds each keysym the map lacks to a spare key code; the number bound, -1 when no spare code
 * is left. */
int mapa_completar(MapaTecladoX* m, const xcb_keysym_t* syms, int n);

#ifdef __cplusplus
}
#endif
