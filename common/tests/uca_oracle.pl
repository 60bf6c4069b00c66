#!/usr/bin/perl
# Oracle for the UCA collator: prints the level-1..3 sort key of every input
# line (UTF-8, one text per line) as computed by Unicode::Collate over the
# same DUCET 5.0.0 allkeys.txt, shifted, without normalization and with every
# contraction suppressed (the collator uses single code points only).
#   perl uca_oracle.pl <allkeys.txt> <texts.txt>
use strict;
use warnings;
use File::Temp qw(tempdir);
use File::Copy qw(copy);
use Unicode::Collate;

my ($allkeys, $texts) = @ARGV;

# Unicode::Collate finds its table under Unicode/Collate in @INC.
my $dir = tempdir(CLEANUP => 1);
mkdir "$dir/Unicode";
mkdir "$dir/Unicode/Collate";
copy($allkeys, "$dir/Unicode/Collate/allkeys500.txt") or die "copy: $!";
unshift @INC, $dir;

my %starters;
open my $keys, '<', $allkeys or die "$allkeys: $!";
while (<$keys>) {
    next unless /^([0-9A-F]{4,6}(?: [0-9A-F]{4,6})+)\s*;/;
    my @cps = split ' ', $1;
    $starters{hex $cps[0]} = 1;
}
close $keys;

my $collator = Unicode::Collate->new(
    table => 'allkeys500.txt',
    UCA_Version => 14,
    normalization => undef,
    variable => 'shifted',
    level => 3,
    suppress => [sort { $a <=> $b } keys %starters],
);

open my $in, '<:encoding(UTF-8)', $texts or die "$texts: $!";
binmode STDOUT;
while (my $line = <$in>) {
    chomp $line;
    my @weights = unpack 'n*', $collator->getSortKey($line);
    print join(' ', map { sprintf '%X', $_ } @weights), "\n";
}
