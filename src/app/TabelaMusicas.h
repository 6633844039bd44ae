#pragma once
// The song table of the main menu: the length of each background song som/QEL<n>.MID, in the
// milliseconds the music player reports, as plataforma::duracaoMidiMs computes it from the
// file. The music timer starts the next song when the position reaches this value.
// Index 0 is unused. The songs are made at build time from assets/songs/; when a score
// changes, update its entry (the media tests compare the table with the files).

constexpr int kFimMusica[19] = {
    0,
    105952,  // 1  Hino à alegria
    61066,   // 2  Brilha, brilha, estrelinha
    71666,   // 3  Frei Martinho
    83737,   // 4  Para Elisa
    67643,   // 5  Marcha turca
    100333,  // 6  Cânone em ré
    56089,   // 7  Greensleeves
    93491,   // 8  Minueto em sol
    71587,   // 9  Canção de ninar
    98833,   // 10 Oh! Susana
    77115,   // 11 A primavera
    56908,   // 12 Guilherme Tell
    112190,  // 13 Bate o sino
    94722,   // 14 Danúbio azul
    78838,   // 15 Quando os santos vão marchando
    70634,   // 16 Choro do teclado
    75512,   // 17 Baião das teclas
    77456,   // 18 Valsa da lição
};
