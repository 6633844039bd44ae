#include "MapaTecladoX.h"

#include <stdlib.h>
#include <string.h>
#include <xkbcommon/xkbcommon.h>

int mapa_ler(MapaTecladoX* m, xcb_connection_t* con)
{
    const xcb_setup_t* setup = xcb_get_setup(con);
    m->con = con;
    m->minimo = setup->min_keycode;
    m->maximo = setup->max_keycode;
    m->syms = NULL;
    xcb_get_keyboard_mapping_reply_t* r = xcb_get_keyboard_mapping_reply(
        con, xcb_get_keyboard_mapping(con, m->minimo, m->maximo - m->minimo + 1), NULL);
    if (!r) return -1;
    m->porCodigo = r->keysyms_per_keycode;
    const size_t bytes = sizeof(xcb_keysym_t) * (size_t)xcb_get_keyboard_mapping_keysyms_length(r);
    m->syms = malloc(bytes);
    memcpy(m->syms, xcb_get_keyboard_mapping_keysyms(r), bytes);
    free(r);
    return 0;
}

void mapa_liberar(MapaTecladoX* m)
{
    free(m->syms);
    m->syms = NULL;
}

static xcb_keysym_t* linha(const MapaTecladoX* m, int codigo)
{
    return &m->syms[(codigo - m->minimo) * m->porCodigo];
}

xcb_keycode_t mapa_codigo(const MapaTecladoX* m, xcb_keysym_t sym, int* shift)
{
    for (int c = m->minimo; c <= m->maximo; ++c)
        for (int nivel = 0; nivel < 2 && nivel < m->porCodigo; ++nivel)
            if (linha(m, c)[nivel] == sym) {
                *shift = nivel == 1;
                return (xcb_keycode_t)c;
            }
    return 0;
}

static int livre(const MapaTecladoX* m, int codigo)
{
    for (int i = 0; i < m->porCodigo; ++i)
        if (linha(m, codigo)[i]) return 0;
    return 1;
}

int mapa_completar(MapaTecladoX* m, const xcb_keysym_t* syms, int n)
{
    int ligados = 0;
    int codigo = m->maximo;
    for (int i = 0; i < n; ++i) {
        int shift;
        if (mapa_codigo(m, syms[i], &shift)) continue;
        while (codigo > m->minimo && !livre(m, codigo)) --codigo;
        if (codigo <= m->minimo) return -1;
        xcb_keysym_t* l = linha(m, codigo);
        /* a lone capital would be folded to the small letter */
        l[0] = xkb_keysym_to_lower(syms[i]);
        if (m->porCodigo > 1) l[1] = xkb_keysym_to_upper(syms[i]);
        xcb_change_keyboard_mapping(m->con, 1, (xcb_keycode_t)codigo, (uint8_t)m->porCodigo, l);
        ++ligados;
    }
    xcb_flush(m->con);
    return ligados;
}
